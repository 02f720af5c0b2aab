// The image decoder's and writer's implementations: on Windows no library of them exists, so they
// are compiled here, once for the worker.
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image.h>
#include <stb/stb_image_write.h>
