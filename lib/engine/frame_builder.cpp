#include "frame_builder.h"
