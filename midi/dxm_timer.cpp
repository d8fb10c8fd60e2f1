// Placeholder until the implementation lands.
