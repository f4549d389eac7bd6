// Windows of data maintenance: the database editor with its search and restore
// windows, and the land-area names windows.
#pragma once

#include "maintenance/TFormEditDB.h"
#include "maintenance/TFormZemName.h"
