// Windows of the forest fund reports: the ownership choice, the two reports and the
// printed form of the first.
#pragma once

#include "reports/TFormGF1.h"
#include "reports/TFormGF1Print.h"
#include "reports/TFormGF2.h"
#include "reports/TFormSob.h"
