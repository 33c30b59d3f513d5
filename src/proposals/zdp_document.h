#pragma once
// The inner document of a ZDP proposal, built from the host's input record.
#include "proposals/document_builder.h"

namespace vokr::proposals {

ProposalDocument buildZdpDocument(const TZalozNavrhZDPIn& in);

} // namespace vokr::proposals
