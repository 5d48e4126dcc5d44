#pragma once

namespace orsa::service::messages {

// Log lines of the service operations, exactly as the technician knows them.
inline constexpr const char* kModemStarting = "Запуск модема...";
inline constexpr const char* kModemNotStarted = "Модем не запущен";
inline constexpr const char* kModemStarted = "Модем запущен";
inline constexpr const char* kModemConfigured = "Модем сконфигурирован";
inline constexpr const char* kModemStopped = "Модем остановлен";
inline constexpr const char* kModemNotStopped = "Модем не остановлен";
inline constexpr const char* kGnssStarted = "GPS/ГЛОНАСС модуль запущен";
inline constexpr const char* kGnssNotStarted = "GPS/ГЛОНАСС модуль не запущен";
inline constexpr const char* kGnssStopped = "GPS/ГЛОНАСС модуль остановлен";
inline constexpr const char* kGnssNotStopped = "GPS/ГЛОНАСС модуль не остановлен";
inline constexpr const char* kTestSimCreated = "SIM-карта для тестирования создана";
inline constexpr const char* kTestSimCreateError = "Ошибка создания тестовой SIM-карты";
inline constexpr const char* kTestSimCleared = "SIM-карта для тестирования деактивирована";
inline constexpr const char* kTestSimClearError = "Ошибка деактивации тестовой SIM-карты";
inline constexpr const char* kSmsSent = "SMS отправлено";
inline constexpr const char* kCalling = "Звонок...";
inline constexpr const char* kCallEnded = "Звонок отменен";

// The first letter is the Latin capital C, as the modem tool has always written it.
inline constexpr const char* kFreeMemoryPrefix = "Cвободной памяти: ";
inline constexpr const char* kFreeMemorySuffix = " (байт)";
inline constexpr const char* kNotEnoughMemory = "Не хватает памяти на модеме для записи файлов";
inline constexpr const char* kWritingFile = "Запись файла ";
inline constexpr const char* kNoPromptAnswer = "Ошибка во время записи файла (нет ответа на этапе приглашения)";
inline constexpr const char* kNoPrompt = "Ошибка во время записи файла (нет приглашения)";
inline constexpr const char* kNoConfirmationAnswer =
    "Ошибка во время записи файла (нет ответа на этапе подтверждения записи)";
inline constexpr const char* kNoConfirmation = "Ошибка во время записи файла (нет подтверждения записи)";
inline constexpr const char* kFilesWritten = "Файлы успешно записаны";

// The lines that say why the modem's answer did not carry the operation; each is followed by
// ": " and what the modem said (or that it said nothing).
inline constexpr const char* kStopped = "Остановлено";
inline constexpr const char* kModemNotAnswering = "Модем не отвечает на команду AT";
inline constexpr const char* kModemNotConfigured = "Модем не сконфигурирован";
inline constexpr const char* kImeiNotReported = "Модем не сообщил IMEI";
inline constexpr const char* kSmsNotSent = "SMS не отправлено";
inline constexpr const char* kSmsReference = " (ссылка ";
inline constexpr const char* kCallFailed = "Звонок не состоялся";
inline constexpr const char* kHangUpFailed = "Звонок не отменен";
inline constexpr const char* kPhoneRefused = "Неверный номер телефона «";
inline constexpr const char* kNothingSent = ". Ничего не отправлено";
inline constexpr const char* kUploadModemSilent =
    "Модем не отвечает, запись файлов отменена, файлы в модеме не тронуты";
inline constexpr const char* kUploadNeeds = ": нужно ";
inline constexpr const char* kUploadAvailable = " байт, доступно ";
inline constexpr const char* kSizeNotConfirmed = "Размер файла на модеме не подтверждён: ";
inline constexpr const char* kSizeMismatch = "Файл записан не полностью: ";
inline constexpr const char* kLeftOnModem = ": на модеме осталось ";
inline constexpr const char* kDeleteFailed = "Файл не удалён с модема: ";
inline constexpr const char* kCreateFailed = "Файл не создан на модеме: ";
inline constexpr const char* kFileRemoved = "Файл удалён с модема: ";
inline constexpr const char* kListFailed = "Список файлов модема не получен";
inline constexpr const char* kDriveEmpty = "На диске C: модема нет файлов";
inline constexpr const char* kBytes = " байт";

// Where the modem's answer or the user's input cannot carry an operation through, it stops
// before the step that would do harm, and says so.
inline constexpr const char* kPhoneTooLong =
    "Слишком длинный номер телефона: команда модему не может быть длиннее 299 байт. Ничего не отправлено";
inline constexpr const char* kNoFreeMemoryAnswer =
    "Модем не сообщил свободную память, запись файлов отменена, файлы в модеме не тронуты";
inline constexpr const char* kFileUnreadable = "Не удаётся прочитать файл ";
inline constexpr const char* kFileChanged = "Файл изменился после выбора папки: ";
inline constexpr const char* kFileNameUnfit = "Имя файла не подходит для модема (";
inline constexpr const char* kDuplicateName = "Два файла с одним именем в модеме: ";
inline constexpr const char* kNothingTouched = ". Запись файлов отменена, файлы в модеме не тронуты";

}  // namespace orsa::service::messages
