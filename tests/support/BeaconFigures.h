#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string_view>

// The figures the beacon's protocol and the configurator's screens fix, written out here as plain
// values. The tests take their expectations from this table and never from the program's own
// constants, so a wrong address, time-out, text or code page entry in the program fails a test
// instead of moving the test along with it.
namespace orsa::testing::figures {

using std::chrono::milliseconds;

// ---- Command frames: type byte, then parameter and length, four bytes each, low byte first.

inline constexpr std::uint8_t kReadSettingSlot = 1;
inline constexpr std::uint8_t kWriteSettingSlot = 2;
inline constexpr std::uint8_t kModemOn = 3;
inline constexpr std::uint8_t kGnssOn = 4;
inline constexpr std::uint8_t kModemOff = 5;
inline constexpr std::uint8_t kGnssOff = 6;
inline constexpr std::uint8_t kSetGnssBaud = 7;
inline constexpr std::uint8_t kModemData = 8;
inline constexpr std::uint8_t kGnssData = 9;
inline constexpr std::uint8_t kEraseFirmware = 10;
inline constexpr std::uint8_t kWriteFirmwareBlock = 11;

// Whole frames as they go out on the line.
inline constexpr std::array<std::uint8_t, 9> kModemOnFrame = {0x03, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
inline constexpr std::array<std::uint8_t, 9> kGnssBaud115200Frame = {0x07, 0x00, 0xC2, 0x01, 0x00,
                                                                     0x00, 0x00, 0x00, 0x00};
inline constexpr std::array<std::uint8_t, 9> kGnssBaud9600Frame = {0x07, 0x80, 0x25, 0x00, 0x00,
                                                                   0x00, 0x00, 0x00, 0x00};
inline constexpr std::array<std::uint8_t, 9> kReadSlot080802C0Frame = {0x01, 0xC0, 0x02, 0x08, 0x08,
                                                                       0x00, 0x00, 0x00, 0x00};
inline constexpr std::array<std::uint8_t, 13> kModemDataAtFrame = {0x08, 0x00, 0x00, 0x00, 0x00, 0x04, 0x00,
                                                                   0x00, 0x00, 'A',  'T',  '\r', '\n'};
// The header of the first 2048-byte block of a firmware image; its data follows.
inline constexpr std::array<std::uint8_t, 9> kFirstFirmwareBlockHeader = {0x0B, 0x00, 0x64, 0x00, 0x08,
                                                                          0x00, 0x08, 0x00, 0x00};
inline constexpr std::size_t kFrameHeaderSize = 9;
inline constexpr std::size_t kMaxFrameData = 2500;

// ---- The serial channel.

inline constexpr std::size_t kReceiveBufferSize = 4096;

// ---- Settings slots.

inline constexpr std::size_t kSlotCount = 29;
inline constexpr std::size_t kSlotSize = 32;

// Each slot's parameter number (its cell's address in the beacon), by slot number 0 to 28.
inline constexpr std::array<std::uint32_t, kSlotCount> kSlotParameters = {
    0x08080460, 0x08080480, 0x08080580, 0x08080560, 0x080805A0, 0x08080660,  // 0-5
    0x080800A0, 0x080800C0, 0x080808C0, 0x080800E0, 0x08080100, 0x08080120,  // 6-11
    0x080805C0, 0x08080520, 0x080802C0, 0x08080600, 0x08080620, 0x08080640,  // 12-17
    0x080806E0, 0x080806A0, 0x080806C0, 0x08080720, 0x08080540, 0x080804A0,  // 18-23
    0x080807E0, 0x080807A0, 0x080807C0, 0x080808E0, 0x08080440,              // 24-28
};

// The slots in the order the beacon is asked for them, and the parameter numbers as they go out.
inline constexpr std::array<std::size_t, kSlotCount> kExchangeSlots = {
    0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 28, 24, 25, 26, 27,
};
inline constexpr std::array<std::uint32_t, kSlotCount> kExchangeParameters = {
    0x08080460, 0x08080480, 0x08080580, 0x08080560, 0x080805A0, 0x08080660, 0x080800A0, 0x080800C0,
    0x080808C0, 0x080800E0, 0x08080100, 0x08080120, 0x080805C0, 0x08080520, 0x080802C0, 0x08080600,
    0x08080620, 0x08080640, 0x080806E0, 0x080806A0, 0x080806C0, 0x08080720, 0x08080540, 0x080804A0,
    0x08080440, 0x080807E0, 0x080807A0, 0x080807C0, 0x080808E0,
};
// A write sends the first 25 of the exchange order.
inline constexpr std::size_t kWrittenSlots = 25;
// After the 29 reads one more read of this parameter goes out; its reply is not used.
inline constexpr std::uint32_t kClosingReadParameter = 0x080802C0;

// ---- Waits and pauses.

inline constexpr milliseconds kReadPause{100};          // after each settings read request
inline constexpr milliseconds kReadTimeout{4000};       // 32 bytes of a slot
inline constexpr milliseconds kWriteTimeout{4000};      // one byte per written slot
inline constexpr milliseconds kFirmwareTimeout{10000};  // the erase, and each firmware block
inline constexpr milliseconds kPowerTimeout{2000};      // ModemOn, ModemOff, GnssOn, GnssOff, SetGnssBaud
inline constexpr milliseconds kAtTryTimeout{500};       // each "AT" of the modem's start
inline constexpr int kAtTries = 10;
inline constexpr milliseconds kUploadPause{100};         // after each upload command that is not awaited
inline constexpr milliseconds kUploadStepTimeout{2000};  // the write prompt, and each chunk's confirmation
inline constexpr milliseconds kSmsPromptPause{1500};     // between the message prompt and the text
inline constexpr milliseconds kGnssModuleTimeout{4000};  // each answer of the module's boot ROM and loader
inline constexpr milliseconds kGnssSyncTimeout{100};     // each A0 of the handshake
inline constexpr int kGnssSyncTries = 100;
inline constexpr milliseconds kGnssCommandPause{200};    // after each $PMTK sentence and program value
inline constexpr milliseconds kGnssChecksumPause{1000};  // after A4, before the loader's address again
inline constexpr milliseconds kNmeaDrainPeriod{1000};    // the relay takes what arrived once a second
inline constexpr std::size_t kFirmwareHeaderSize = 15;
inline constexpr std::size_t kFirmwareBlockSize = 2048;
inline constexpr std::uint32_t kFirmwareBase = 0x08006400;

// ---- What the user is told (UTF-8).

inline constexpr std::string_view kResultTitle = "Конфигуратор";
inline constexpr std::string_view kNotConnected = "Устройство не подключено";

inline constexpr std::string_view kReadFailed = "Ошибка во время чтения параметров";
inline constexpr std::string_view kWriteFailed = "Ошибка во время записи параметров";
inline constexpr std::string_view kWriteDone = "Настройки успешно записаны";
inline constexpr std::string_view kReadingCaption = "Чтение настроек...";
inline constexpr std::string_view kWritingCaption = "Запись настроек...";

// The checks of the pages before a write or save; their boxes are titled "конфигуратор", the
// additional server's "Конфигуратор".
inline constexpr std::string_view kCheckTitle = "конфигуратор";
inline constexpr std::string_view kNoOwnerPhone =
    "Вы не указали номер телефона владельца\nЗаписать настройки без него?";
inline constexpr std::string_view kNoPin = "Вы не задали PIN-код устройства";
inline constexpr std::string_view kPinNotFourDigits = "PIN-код устройства должен состоять из четырех цифр";
inline constexpr std::string_view kNoServer =
    "Вы не указали адрес сервера или порт.\n\n\nВНИМАНИЕ!\n\nЕсли не записать данные настройки, то устройство не "
    "сможет передавать данные на сервер мониторинга\n\nЗаписать настройки без них?";
inline constexpr std::string_view kNoWialonServer = "Не указан IP или порт сервера\n для передачи по протоколу WIALON";
inline constexpr std::string_view kNoBalanceCode = "Вы не указали код запроса баланса";

inline constexpr std::string_view kFirmwareOpenFailed = "Ошибка открытия файла прошивки";
inline constexpr std::string_view kEraseFailed = "Ошибка на этапе очистки FLASH";
inline constexpr std::string_view kFirmwareWriteFailed = "Ошибка во время записи прошивки";
inline constexpr std::string_view kFirmwareDone = "Прошивка успешно обновлена";

inline constexpr std::string_view kModemStarting = "Запуск модема...";
inline constexpr std::string_view kModemNotStarted = "Модем не запущен";
inline constexpr std::string_view kModemStarted = "Модем запущен";
inline constexpr std::string_view kModemConfigured = "Модем сконфигурирован";
inline constexpr std::string_view kModemStopped = "Модем остановлен";
inline constexpr std::string_view kModemNotStopped = "Модем не остановлен";
inline constexpr std::string_view kGnssStarted = "GPS/ГЛОНАСС модуль запущен";
inline constexpr std::string_view kGnssNotStarted = "GPS/ГЛОНАСС модуль не запущен";
inline constexpr std::string_view kGnssStopped = "GPS/ГЛОНАСС модуль остановлен";
inline constexpr std::string_view kGnssNotStopped = "GPS/ГЛОНАСС модуль не остановлен";
inline constexpr std::string_view kTestSimCreated = "SIM-карта для тестирования создана";
inline constexpr std::string_view kTestSimCreateFailed = "Ошибка создания тестовой SIM-карты";
inline constexpr std::string_view kTestSimCleared = "SIM-карта для тестирования деактивирована";
inline constexpr std::string_view kTestSimClearFailed = "Ошибка деактивации тестовой SIM-карты";
inline constexpr std::string_view kSmsSent = "SMS отправлено";
inline constexpr std::string_view kCalling = "Звонок...";
inline constexpr std::string_view kCallCancelled = "Звонок отменен";

// The first letter of "Cвободной" is the Latin C.
inline constexpr std::string_view kFreeMemory = "Cвободной памяти: ";
inline constexpr std::string_view kNoRoomOnModem = "Не хватает памяти на модеме для записи файлов";
inline constexpr std::string_view kWritingFile = "Запись файла ";
inline constexpr std::string_view kNoPromptAnswer = "Ошибка во время записи файла (нет ответа на этапе приглашения)";
inline constexpr std::string_view kNoPrompt = "Ошибка во время записи файла (нет приглашения)";
inline constexpr std::string_view kNoConfirmationAnswer =
    "Ошибка во время записи файла (нет ответа на этапе подтверждения записи)";
inline constexpr std::string_view kNoConfirmation = "Ошибка во время записи файла (нет подтверждения записи)";
inline constexpr std::string_view kFilesWritten = "Файлы успешно записаны";

inline constexpr std::string_view kGnssNotAnswering = "GPS модуль не отвечает";
inline constexpr std::string_view kGnssStage0A = "Ошибка на этапе 0x0A";
inline constexpr std::string_view kGnssPacketTimeout = "Время ожидания ответа от МК истекло";
inline constexpr std::string_view kGnssFlashDone = "Прошивка GPS модуля завершена";

// ---- The settings summary: the caption of each of its 20 rows.

inline constexpr std::array<std::string_view, 20> kSummaryCaptions = {
    "Номер владельца",
    "PIN-код",
    "Часовой пояс",
    "Время основного сеанса",
    "Формат координат",
    "Режим передачи данных",
    "Адрес сервера : порт",
    "Частота выхода на связь",
    "Период определения координат (Суток)",
    "Охрана по датчику движения",
    "Период времени охраны №1",
    "Период времени охраны №2",
    "Тайм-аут датчика движения",
    "Защита от ложных срабатываний датчика",
    "Воздействие на датчик (амплитуда)",
    "Воздействие на датчик (длительность)",
    "Охрана периметра",
    "Диаметр зоны охраны",
    "Порог остатка средств",
    "Код запроса баланса",
};

// ---- Windows-1251: the characters of bytes 0x80 to 0xFF (the lower half is ASCII). 0x98 has no
// character in the code page; Windows carries it as U+0098.

inline constexpr std::array<char32_t, 128> kCp1251UpperHalf = {
    // 0x80
    U'Ђ',
    U'Ѓ',
    U'‚',
    U'ѓ',
    U'„',
    U'…',
    U'†',
    U'‡',
    U'€',
    U'‰',
    U'Љ',
    U'‹',
    U'Њ',
    U'Ќ',
    U'Ћ',
    U'Џ',
    // 0x90
    U'ђ',
    U'‘',
    U'’',
    U'“',
    U'”',
    U'•',
    U'–',
    U'—',
    U'\u0098',
    U'™',
    U'љ',
    U'›',
    U'њ',
    U'ќ',
    U'ћ',
    U'џ',
    // 0xA0: no-break space at A0, soft hyphen at AD
    U'\u00A0',
    U'Ў',
    U'ў',
    U'Ј',
    U'¤',
    U'Ґ',
    U'¦',
    U'§',
    U'Ё',
    U'©',
    U'Є',
    U'«',
    U'¬',
    U'\u00AD',
    U'®',
    U'Ї',
    // 0xB0
    U'°',
    U'±',
    U'І',
    U'і',
    U'ґ',
    U'µ',
    U'¶',
    U'·',
    U'ё',
    U'№',
    U'є',
    U'»',
    U'ј',
    U'Ѕ',
    U'ѕ',
    U'ї',
    // 0xC0
    U'А',
    U'Б',
    U'В',
    U'Г',
    U'Д',
    U'Е',
    U'Ж',
    U'З',
    U'И',
    U'Й',
    U'К',
    U'Л',
    U'М',
    U'Н',
    U'О',
    U'П',
    // 0xD0
    U'Р',
    U'С',
    U'Т',
    U'У',
    U'Ф',
    U'Х',
    U'Ц',
    U'Ч',
    U'Ш',
    U'Щ',
    U'Ъ',
    U'Ы',
    U'Ь',
    U'Э',
    U'Ю',
    U'Я',
    // 0xE0
    U'а',
    U'б',
    U'в',
    U'г',
    U'д',
    U'е',
    U'ж',
    U'з',
    U'и',
    U'й',
    U'к',
    U'л',
    U'м',
    U'н',
    U'о',
    U'п',
    // 0xF0
    U'р',
    U'с',
    U'т',
    U'у',
    U'ф',
    U'х',
    U'ц',
    U'ч',
    U'ш',
    U'щ',
    U'ъ',
    U'ы',
    U'ь',
    U'э',
    U'ю',
    U'я',
};

}  // namespace orsa::testing::figures
