// The function-publishing wrapper: publish a class's member functions to MAXScript.
#pragma once

#include "tangram/max3d/hv_create_descriptor.h"
#include "tangram/max3d/hv_static_interface.h"
