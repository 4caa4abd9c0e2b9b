#pragma once

#include "common/message_box.h"

// Asks whether to quit. True only for OK; Cancel, Esc and the box's close button say no.
bool ConfirmExit(MessageBoxRoutine& messages);
