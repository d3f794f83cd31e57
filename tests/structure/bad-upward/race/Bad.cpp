#include "history/RirekiForm.h"
