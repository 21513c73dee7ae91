#include "app/constants.h"
