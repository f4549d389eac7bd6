// The export window.
#pragma once

#include "export/TFormExport.h"
