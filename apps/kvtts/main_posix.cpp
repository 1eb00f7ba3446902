#include "apps/kvtts/kvtts_main.h"

int main(int argc, char** argv) {
  return KvttsMain(argc, argv);
}
