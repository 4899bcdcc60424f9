#include "shell_fixture.h"
