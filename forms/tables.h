#pragma once
// The controls tables of the program's own windows, each beside its form.
#include "forms/layout.h"

namespace tessmar::forms {

WindowLayout historyLayout();
WindowLayout previewLayout();
WindowLayout gpoLayout();

}  // namespace tessmar::forms
