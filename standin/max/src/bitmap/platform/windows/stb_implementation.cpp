// The image writer's implementation: on Windows no library of it exists, so it is compiled here.
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>
