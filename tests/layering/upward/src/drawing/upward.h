// A drawing header that reaches up to the application shell.
#include "app/planox1.h"
