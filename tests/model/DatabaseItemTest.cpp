#include "model/VeskDatabaseItem.h"
