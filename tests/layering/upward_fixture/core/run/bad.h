// A run that reaches up into the window layer: the layering check must reject it.
#pragma once

#include "core/window/x.h"
