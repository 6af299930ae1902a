#include "view/clsView.h"
