#include "engine/name_template.h"
