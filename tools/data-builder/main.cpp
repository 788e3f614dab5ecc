// tolvar-data-builder ROOT: writes the delivered configuration and macro
// files under ROOT (the repository's root to refresh the committed files).
#include <cstdio>

#include "delivered_data.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr,
                 "usage: tolvar-data-builder ROOT\n"
                 "Writes skins/config/config.ini and data/{constMacro,Macro_EN,Macro_CN}.dat under ROOT.\n");
    return 2;
  }
  if (!tolvar::WriteDeliveredData(argv[1])) {
    std::fprintf(stderr, "tolvar-data-builder: could not write the files under %s\n", argv[1]);
    return 1;
  }
  return 0;
}
