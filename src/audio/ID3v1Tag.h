#pragma once

namespace lorvane {} // namespace lorvane
