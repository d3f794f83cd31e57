#pragma once

#include "store/Database.h"
