#include "app/textconv.h"
