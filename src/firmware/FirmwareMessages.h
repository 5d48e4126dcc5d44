#pragma once

namespace orsa::firmware::messages {

// What the beacon's own firmware update tells the user, in its result box.
namespace update {
inline constexpr const char* kFileError = "Ошибка открытия файла прошивки";
inline constexpr const char* kEraseError = "Ошибка на этапе очистки FLASH";
inline constexpr const char* kWriteError = "Ошибка во время записи прошивки";
inline constexpr const char* kInterrupted = "Обновление прошивки прервано: ";
inline constexpr const char* kSuccess = "Прошивка успешно обновлена";
}  // namespace update

// The GNSS module's flash: its log lines, the last of which says how the run ended.
namespace gnss {
inline constexpr const char* kEnteringBootRom = "Переход в режим программирования...";
inline constexpr const char* kSwitchingSpeed = "Переключение скорости UART 115200...";
inline constexpr const char* kPreparingModule = "Подготовка GPS модуля...";
inline constexpr const char* kWritingLoader = "Запись загрузчика...";
inline constexpr const char* kStartingLoader = "Передача управления загрузчику...";
inline constexpr const char* kWritingFirmware = "Запись прошивки...";
inline constexpr const char* kDone = "Прошивка GPS модуля завершена";
inline constexpr const char* kConfirmedPrefix = ": модуль подтвердил ";
inline constexpr const char* kConfirmedSuffix = " байт прошивки";
inline constexpr const char* kLoaderFile = "Загрузчик ";
inline constexpr const char* kFirmwareFile = "Прошивка ";
inline constexpr const char* kReleaseBefore = "Версия прошивки модуля: ";
inline constexpr const char* kReleaseAfter = "Версия прошивки модуля после прошивки: ";
inline constexpr const char* kNoRelease = "Модуль не сообщил версию прошивки";
inline constexpr const char* kNotConfirmed = ". Запуск не подтверждён, модулю ничего не отправлено";
inline constexpr const char* kInterrupted = "Прошивка GPS модуля прервана";
inline constexpr const char* kAndRecovered = "; модуль возвращён в обычный режим (9600 бод, питание перезапущено)";
inline constexpr const char* kAndNotRecovered =
    "; модуль не удалось вернуть в обычный режим: выключите и включите маяк";
inline constexpr const char* kRecovered = "Модуль возвращён в обычный режим (9600 бод, питание перезапущено)";
inline constexpr const char* kNotRecovered = "Модуль не удалось вернуть в обычный режим: маяк не подтвердил команды";
inline constexpr const char* kLineLost = "Устройство не подключено: маяк отключён во время прошивки GPS модуля";
inline constexpr const char* kSendError = "Ошибка передачи в маяк";
inline constexpr const char* kLoaderChecksumError = "Ошибка проверки загрузчика (Checksum)";
inline constexpr const char* kRangeError = "Загрузчик не принял диапазон прошивки";
inline constexpr const char* kPacketSizeError = "Загрузчик не принял размер пакета";
inline constexpr const char* kPacketRejected = "Ошибка во время записи прошивки: ";
inline constexpr const char* kNormalSpeedError = "Ошибка на этапе возврата скорости 9600";

inline constexpr const char* kLoaderFileError = "Ошибка открытия файла загрузчика";
inline constexpr const char* kFirmwareFileError = "Ошибка открытия файла прошивки";
inline constexpr const char* kNotStopped = "GPS/ГЛОНАСС модуль не остановлен";
inline constexpr const char* kNotStarted = "GPS/ГЛОНАСС модуль не запущен";
inline constexpr const char* kSpeedError = "Ошибка на этапе переключения скорости";
inline constexpr const char* kNoAnswer = "GPS модуль не отвечает";
inline constexpr const char* kStage0A = "Ошибка на этапе 0x0A";
inline constexpr const char* kStage50 = "Ошибка на этапе 0x50";
inline constexpr const char* kStage05 = "Ошибка на этапе 0x05";
inline constexpr const char* kStageA1 = "Ошибка на этапе 0xA1";
inline constexpr const char* kAddressError = "Ошибка на этапе передачи адреса";
inline constexpr const char* kLengthError = "Ошибка на этапе передачи размера загрузчика";
inline constexpr const char* kLoaderWriteError = "Ошибка во время записи загрузчика";
inline constexpr const char* kStageA4 = "Ошибка на этапе A4";
inline constexpr const char* kChecksumAddressError = "Ошибка на этапе передачи адреса (Checksum)";
inline constexpr const char* kControlError = "Ошибка на этапе передачи управления загрузчику";
inline constexpr const char* kControlAddressError = "Ошибка на этапе передачи управления(адрес)";
inline constexpr const char* kPacketTimeout = "Время ожидания ответа от МК истекло";
}  // namespace gnss

}  // namespace orsa::firmware::messages
