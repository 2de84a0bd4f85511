#pragma once
// addentry: 4000..4999
