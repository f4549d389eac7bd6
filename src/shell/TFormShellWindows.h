// Windows of the application shell that are opened from the main menu.
#pragma once

#include "shell/TFormEditName.h"
#include "shell/TFormSelPrj.h"
#include "shell/TFormStatistics.h"
#include "widgets/TFormWindow.h"
#include "widgets/WindowContext.h"
