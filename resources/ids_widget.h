#pragma once
// widget: 2000..2999
