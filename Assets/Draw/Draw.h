// The asset programs' drawing kit in one include.
#pragma once

#include "Canvas.h"
#include "Generator.h"
#include "Lettering.h"
#include "Masks.h"
#include "Paints.h"
#include "Paths.h"
