#include "datafiles/text_encoding.h"
