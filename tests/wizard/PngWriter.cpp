// The PNG encoder of the screenshots.
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>
