#include "core/test_seam.h"

TestSeam& testSeam() {
    static TestSeam seam;
    return seam;
}
