#include "model_catalogue.h"
