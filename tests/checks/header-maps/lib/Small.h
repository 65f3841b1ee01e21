// Short enough to need no map.
#pragma once
