#include "profiles/stack.h"

namespace vark {

Stack::Stack() : Form("Stack") {
  Im1 = Picture::Load(res::kArrow);
  Im2 = Picture::Load(res::kArrow2);
}

}  // namespace vark
