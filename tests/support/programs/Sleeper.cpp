// A stand-in for a product process that tests end by image name: it only waits to be killed.
#include <windows.h>

int main() {
  ::Sleep(120000);
  return 7;
}
