#include "store/StoreInternal.h"
