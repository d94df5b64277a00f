// The window's caption and the usage note shown on page "说明".
#pragma once

extern const char kWindowCaption[];
extern const char kUsageNote[];
