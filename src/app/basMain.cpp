#include "app/basMain.h"

bool gblnHideCaptureWin = false;
