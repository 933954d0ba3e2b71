#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "tools/pl3ctl/cli_context.h"

namespace pl3::cli {

using Arguments = std::vector<std::string>;

int runNew(CliContext& context, const Arguments& args);
int runDump(CliContext& context, const Arguments& args);
int runSet(CliContext& context, const Arguments& args);
int runRead(CliContext& context, const Arguments& args);
int runWrite(CliContext& context, const Arguments& args);
int runDiff(CliContext& context, const Arguments& args);
int runExportCsv(CliContext& context, const Arguments& args);
int runImportCsv(CliContext& context, const Arguments& args);

void printUsage(std::ostream& out);
void printSetHelp(std::ostream& out);

}  // namespace pl3::cli
