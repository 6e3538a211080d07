#include "protocol_engine.h"
