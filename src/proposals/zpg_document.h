#pragma once
// The inner document of a ZPG proposal, built from the host's input record.
#include "proposals/document_builder.h"

namespace vokr::proposals {

// Raises vokr::Error (EProposalError) for an enumeration byte out of range, when its element
// is reached.
ProposalDocument buildZpgDocument(const TZalozNavrhZPGIn& in);

} // namespace vokr::proposals
