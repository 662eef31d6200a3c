#include "app/prompts.h"
