#pragma once
// The hidden "test" button's diagnostic dump of the job settings, shown as "<Debug>" boxes.
#include <string>

#include "core/job/job_settings.h"

namespace quillet {

class Reporter;

// Rebuilds ItemFlags, then shows the programmer type, category, part name, item flags and the two
// CONFIG words (CONFIG0/CONFIG1 on Cortex-M0 parts, CONFIG_3210/CONFIG_7654 on 8051 parts).
void ShowSettingsDump(JobSettings& job, const std::string& part_name, bool is_cortex_m0, Reporter& reporter);

}  // namespace quillet
