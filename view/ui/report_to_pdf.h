#pragma once
// The channel-list report of a codeplug file (or of a new codeplug) written to a PDF
// without a window: reports made from scripts.

#include <optional>
#include <string>

#include "lang/text_lookup.h"
#include "platform/settings_file.h"

namespace pl3 {

// Exit status: 0 written; 2 the codeplug cannot be loaded, the output exists and is not a
// regular file, or the PDF cannot be written (said on standard error in the current
// language, with the system's reason). The output is replaced in one step.
int printReportToPdf(const SettingsFile& settings, const TextLookup& texts,
                     const std::string& pdfPath, const std::optional<std::string>& codeplugPath);

}  // namespace pl3
