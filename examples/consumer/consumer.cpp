// Writes one GNSS setting and reads it back through the installed library.
#include <cstdio>

#include "TrassoJkn.h"

int main() {
  const int before = GetQZJkn_GNSS_MaskElev(1);
  PutQZJkn_GNSS_MaskElev(1, before + 1);
  const int after = GetQZJkn_GNSS_MaskElev(1);
  std::printf("MaskElev_Svy: %d -> %d\n", before, after);
  return after == before + 1 ? 0 : 1;
}
