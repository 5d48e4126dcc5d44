#pragma once

#include <string>

#include "cli/CliContext.h"
#include "service/ServiceThread.h"

namespace orsa::cli {

// Runs one service operation and prints its log lines on standard output as the service window
// shows them; the upload also draws a bar of the bytes written on a terminal. Returns the exit
// status: success only when the operation got as far as it meant to.
int runServiceOperation(CliContext& context, std::int32_t mode, std::string phoneNumber = {},
                        service::UploadList upload = {});

}  // namespace orsa::cli
