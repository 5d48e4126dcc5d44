#include <CLI/CLI.hpp>
#include <filesystem>
#include <memory>
#include <ostream>

#include "cli/Command.h"
#include "cli/ExitCode.h"
#include "cli/ServiceOperation.h"
#include "link/SystemReason.h"
#include "link/Utf8Path.h"

namespace orsa::cli {

namespace {

int uploadPaths(CliContext& context, const std::vector<std::string>& words) {
  namespace fs = std::filesystem;

  // Every file is looked at before the beacon is: a typing error sends nothing.
  service::UploadList upload;
  for (const std::string& word : words) {
    std::error_code error;
    const fs::path path = link::utf8Path(word);
    if (fs::is_directory(path, error)) {
      service::UploadList found = service::scanUploadFolder(path, error);
      if (error) {
        context.err << "orsactl: " << word << ": " << link::systemReason(error) << '\n';
        return kExitFailed;
      }
      if (found.files.empty()) context.err << "orsactl: в папке " << word << " нет файлов *.AMR\n";
      upload.files.insert(upload.files.end(), found.files.begin(), found.files.end());
      upload.totalSize += found.totalSize;
      continue;
    }
    const auto size = fs::is_regular_file(path, error) ? fs::file_size(path, error) : 0;
    if (error || !fs::is_regular_file(path)) {
      context.err << "orsactl: " << word << ": " << (error ? link::systemReason(error) : "не файл и не папка") << '\n';
      return kExitFailed;
    }
    upload.files.push_back({word, size});
    upload.totalSize += size;
  }
  if (upload.files.empty()) {
    context.err << "orsactl: нечего загружать\n";
    return kExitFailed;
  }
  ServiceRequest request;
  request.mode = service::ServiceThread::kUploadFiles;
  request.upload = std::move(upload);
  return runServiceOperation(context, std::move(request));
}

}  // namespace

CommandRun defineUpload(CLI::App& app) {
  auto words = std::make_shared<std::vector<std::string>>();
  app.add_option("PATH", *words, "a folder (its *.AMR files) or a file")->required();
  return [words](CliContext& context) { return uploadPaths(context, *words); };
}

}  // namespace orsa::cli
