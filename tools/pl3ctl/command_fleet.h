#pragma once
// pl3ctl write to several radios at once, and the production line.

#include <string>
#include <vector>

#include "codeplug/document.h"
#include "tools/pl3ctl/cli_context.h"

namespace pl3::cli {

struct FleetRequest {
    std::vector<std::string> ports;  // as given with --port; none: the stored port
    bool allPorts = false;
    bool watch = false;
    bool json = false;
    bool verify = false;
    bool keepTuning = false;
    bool backups = true;
};

// More than one port, every port, the production line or JSON output.
bool isFleetRequest(const FleetRequest& request);

// Writes the document's codeplug to every radio of the request.
int runFleetWrite(CliContext& context, const FleetRequest& request, CMaItemDoc& doc);

}  // namespace pl3::cli
