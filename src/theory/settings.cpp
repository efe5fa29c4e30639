#include "theory/settings.h"
