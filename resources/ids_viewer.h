#pragma once
// viewer: 3000..3999
