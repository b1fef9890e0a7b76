#include "panels/InfoHooks.h"

TInfoHooks g_infoHooks;
