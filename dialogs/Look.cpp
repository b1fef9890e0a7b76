#include "dialogs/Look.h"

const uint8_t DefaultColours[ColourClassCount] = {27, 48, 30, 62, 26, 32, 7,  112, 79,
                                                  48, 3,  63, 48, 15, 14, 7, 27, 48};
uint8_t g_colours[ColourClassCount] = {27, 48, 30, 62, 26, 32, 7,  112, 79,
                                       48, 3,  63, 48, 15, 14, 7, 27, 48};
bool g_shadows = true;
int g_scrollDelay = 10;
