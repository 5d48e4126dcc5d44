#pragma once

#include <string_view>

namespace orsa::settings {

// What the settings commands tell the user (UTF-8), kept in one place so that the windows, the
// command-line tool and the tests all use the very same wording.
namespace messages {

inline constexpr std::string_view kResultTitle = "Конфигуратор";
inline constexpr std::string_view kCheckTitle = "конфигуратор";
inline constexpr std::string_view kWialonCheckTitle = "Конфигуратор";
inline constexpr std::string_view kFileErrorTitle = "Ошибка";

inline constexpr std::string_view kNotConnected = "Устройство не подключено";
inline constexpr std::string_view kReadFailed = "Ошибка во время чтения параметров";
inline constexpr std::string_view kWriteFailed = "Ошибка во время записи параметров";
inline constexpr std::string_view kWriteDone = "Настройки успешно записаны";
inline constexpr std::string_view kReadingCaption = "Чтение настроек...";
inline constexpr std::string_view kWritingCaption = "Запись настроек...";

inline constexpr std::string_view kNoOwnerPhone =
    "Вы не указали номер телефона владельца\nЗаписать настройки без него?";
inline constexpr std::string_view kNoPin = "Вы не задали PIN-код устройства";
inline constexpr std::string_view kPinNotFourDigits = "PIN-код устройства должен состоять из четырех цифр";
inline constexpr std::string_view kNoServer =
    "Вы не указали адрес сервера или порт.\n\n\nВНИМАНИЕ!\n\nЕсли не записать данные настройки, "
    "то устройство не сможет передавать данные на сервер мониторинга\n\nЗаписать настройки без них?";
inline constexpr std::string_view kNoWialonServer = "Не указан IP или порт сервера\n для передачи по протоколу WIALON";
inline constexpr std::string_view kNoBalanceCode = "Вы не указали код запроса баланса";
// %s stands for the field's text.
inline constexpr std::string_view kNotAnInteger = "'%s' is not a valid integer value";

inline constexpr std::string_view kFileOpenFailed = "Ошибка открытия файла";
// Our own words: the open succeeded but the bytes did not all reach the disk, or could not be read.
inline constexpr std::string_view kFileWriteFailed = "Ошибка записи файла";
inline constexpr std::string_view kFileReadFailed = "Ошибка чтения файла";

inline constexpr std::string_view kFileFilter = "Файл конфигурации|*.cfg";
inline constexpr std::string_view kFileDefaultName = "config.cfg";

}  // namespace messages
}  // namespace orsa::settings
