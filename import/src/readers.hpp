// The instrument formats the importer knows, each in a file of its own.
#pragma once

#include "import/raw.hpp"

namespace vk::imp {

const Reader& gsi_reader();
const Reader& sdr_reader();

}  // namespace vk::imp
