#pragma once

namespace orsa::firmware::messages {

// What the beacon's own firmware update tells the user, in its result box.
namespace update {
inline constexpr const char* kFileError = "Ошибка открытия файла прошивки";
inline constexpr const char* kEraseError = "Ошибка на этапе очистки FLASH";
inline constexpr const char* kWriteError = "Ошибка во время записи прошивки";
// The erase is done by then, so the beacon is no longer as it was: say so, not "cannot open".
inline constexpr const char* kFileChangedError =
    "Ошибка во время записи прошивки: файл прошивки изменился во время обновления. Прошивка записана не полностью, "
    "повторите обновление";
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

inline constexpr const char* kLoaderFileError = "Ошибка открытия файла загрузчика";
inline constexpr const char* kFirmwareFileError = "Ошибка открытия файла прошивки";
// An empty image would make the loader's range end at FF FF FF FF and leave the module erased.
inline constexpr const char* kFirmwareEmpty = "Ошибка открытия файла прошивки: файл пуст";
inline constexpr const char* kFirmwareTooLarge = "Ошибка открытия файла прошивки: файл больше 16 МБ";
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
