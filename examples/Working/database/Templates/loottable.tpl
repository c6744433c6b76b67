Group
{
	name = "All Groups"
	type = "list"

	Variable
	{
		name = "Include File"
		class = "variable"
		type = "include"
		description = ""
		value = ""
		defaultValue = "%TEMPLATE_DIR%Database\Templates\base.tpl"
	}

	Group
	{
		name = "Header"
		type = "system"

		Variable
		{
			name = "ActorName"
			class = "variable"
			type = "string"
			description = "Name shown in the editor"
			value = ""
			defaultValue = ""
		}

		Variable
		{
			name = "Class"
			class = "static"
			type = "string"
			description = "Engine class of the record"
			value = ""
			defaultValue = "LootTable"
		}

		Variable
		{
			name = "FileDescription"
			class = "variable"
			type = "string"
			description = "What this record is for"
			value = ""
			defaultValue = ""
		}

	}

	Group
	{
		name = "Loot"
		type = "list"

		Variable
		{
			name = "items"
			class = "array"
			type = "file_dbr"
			description = "Records of the items"
			value = ""
			defaultValue = ""
		}

		Variable
		{
			name = "weights"
			class = "array"
			type = "int"
			description = "Relative chance of each item"
			value = ""
			defaultValue = ""
		}

		Variable
		{
			name = "bestItem"
			class = "variable"
			type = "file_dbr"
			description = "Guaranteed item"
			value = ""
			defaultValue = ""
		}

	}

}

