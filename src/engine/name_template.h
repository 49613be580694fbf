#ifndef PELLOQUIN_ENGINE_NAME_TEMPLATE_H_
#define PELLOQUIN_ENGINE_NAME_TEMPLATE_H_

namespace engine {}  // namespace engine

#endif  // PELLOQUIN_ENGINE_NAME_TEMPLATE_H_
