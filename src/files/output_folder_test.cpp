#include "files/output_folder.h"

#include <gtest/gtest.h>
