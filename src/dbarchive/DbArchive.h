#pragma once
namespace mw { class DbArchive { public: virtual ~DbArchive() = default; }; }
