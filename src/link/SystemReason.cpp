#include "link/SystemReason.h"

#include <array>
#include <utility>

namespace orsa::link {

std::string systemReason(const std::error_code& error) {
  // Compared as conditions, so an errno and a Windows error that mean the same find the same words.
  static const std::array<std::pair<std::errc, const char*>, 15> kReasons{{
      {std::errc::no_such_file_or_directory, "нет такого файла или папки"},
      {std::errc::permission_denied, "нет доступа"},
      {std::errc::operation_not_permitted, "нет прав на это действие"},
      {std::errc::is_a_directory, "это папка"},
      {std::errc::not_a_directory, "часть пути — не папка"},
      {std::errc::no_space_on_device, "на диске нет места"},
      {std::errc::read_only_file_system, "диск только для чтения"},
      {std::errc::file_exists, "такой файл уже есть"},
      {std::errc::device_or_resource_busy, "занято другой программой"},
      {std::errc::io_error, "ошибка ввода-вывода"},
      {std::errc::filename_too_long, "слишком длинное имя"},
      {std::errc::too_many_files_open, "открыто слишком много файлов"},
      {std::errc::too_many_files_open_in_system, "открыто слишком много файлов"},
      {std::errc::too_many_symbolic_link_levels, "слишком много символических ссылок"},
      {std::errc::no_such_device, "нет такого устройства"},
  }};
  for (const auto& [condition, words] : kReasons) {
    if (error == condition) return words;
  }
  return error.message();
}

std::string systemReason(int errorNumber) {
  return systemReason(std::error_code(errorNumber, std::generic_category()));
}

}  // namespace orsa::link
