// Windows of the sieves, each in files of its own; this header gathers them.
#pragma once

#include "sieves/TFormSitoOBS.h"
#include "sieves/TFormSitoRabotno.h"
#include "sieves/TFormSitoRabotnoAge.h"
#include "sieves/TFormSitoRabotnoPrint.h"
#include "sieves/TFormSitoRabotnoSechi.h"
#include "sieves/TFormSitoRabotnoSetting.h"
#include "sieves/TFormSitoSechi.h"
#include "widgets/TFormWindow.h"
#include "widgets/WindowContext.h"
