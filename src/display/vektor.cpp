#include "display/vektor.h"
