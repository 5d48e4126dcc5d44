#pragma once

#include <functional>
#include <string>

#include "cli/CliContext.h"
#include "service/ServiceThread.h"

namespace orsa::cli {

// One service operation and its inputs, as the service window would start it.
struct ServiceRequest {
  std::int32_t mode = 0;
  std::string phoneNumber;  // the call and the IMEI by SMS, in Windows-1251
  service::UploadList upload;
  std::string fileName;  // the removal, in Windows-1251
  // Given when standard output is for a script: the log goes to standard error instead, and this
  // prints the outcome once the operation has reached its aim.
  std::function<void(const service::ServiceThread&)> report;
};

// Runs one service operation and prints its log lines on standard output as the service window
// shows them; the upload also draws a bar of the bytes written on a terminal. Ctrl-C stops the
// operation as the window's stop button does, and its last lines say what it left. Returns the exit
// status: success only when the operation got as far as it meant to.
int runServiceOperation(CliContext& context, ServiceRequest request);

}  // namespace orsa::cli
